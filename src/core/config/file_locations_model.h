#pragma once
// The model of the file locations dialog ("Vantor File Locations", frmFileLocations): the
// directory of each of the eleven Audiowall parts and the data directory. OK stores them in the
// configuration file, creates what is missing and re-reads the size of the Audiowall; Esc leaves
// everything as it was.

#include <array>
#include <string>

#include "common/window_model.h"

namespace vantor {

class UserInterface;
struct AudiowallState;
struct SystemLocations;

class FileLocationsModel : public WindowModel {
  public:
    static constexpr const char* kCaption = "Vantor File Locations";
    static constexpr int kRows = 11;
    static constexpr const char* kBrowseTitle = "Select the directory that the audio is stored in";

    FileLocationsModel(SystemLocations& locations, AudiowallState& audiowall, UserInterface& ui);

    // The configuration file OK writes to; ConfigFile when the dialog is created.
    std::string IniFile;

    // Fills the fields from the values in memory (not from the file), each shown as it exists
    // on disk.
    void Open();
    // Each activation brings the dialog forward with the default pointer.
    void Activate();

    // The label of row n (1 to 11): "Carts 1 to 1000:" ... "Carts 10001 to...".
    static std::string RowLabel(int row);

    const std::string& CartLocation(int row) const { return rows_.at(row - 1); }
    const std::string& DataLocationText() const { return dataLocation_; }
    bool UseOneCartLocation() const { return useOne_; }
    // Rows 2 to 11 are disabled while one directory serves all the carts (the window draws a
    // disabled row like a button face).
    bool RowEnabled(int row) const { return row == 1 || !useOne_; }
    bool IsClosed() const { return closed_; }

    // chkUseOneCartLocation: checking it copies row 1 into the other rows.
    void SetUseOneCartLocation(bool checked);
    // A change of a row's text (while the box is checked row 1 is copied to the others).
    void SetCartLocation(int row, const std::string& text);
    void SetDataLocation(const std::string& text) { dataLocation_ = text; }
    // The Browse buttons: the folder picker starts at the field's text; a chosen folder
    // replaces it, trimmed.
    void BrowseCartLocation(int row);
    void BrowseDataLocation();

    // Stores the locations, checks or creates their directories and closes.
    void OK();
    // Esc: closes without storing anything.
    void Escape() { closed_ = true; }

  private:
    SystemLocations& locations_;
    AudiowallState& audiowall_;
    UserInterface& ui_;
    std::array<std::string, kRows> rows_;
    std::string dataLocation_;
    bool useOne_ = false;
    bool closed_ = false;
};

// A location as shown: trimmed and spelt as it exists on disk (as typed for the part still to
// be made); letters keep the case they were typed in.
std::string LocationOnDisk(const std::string& text);
// A stored location: the same, with one trailing separator removed.
std::string NormaliseLocation(const std::string& text);

}  // namespace vantor
