#include "text_file_viewer.h"

#include <QFont>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "common/paths.h"
#include "common/problem_report.h"
#include "common/user_interface.h"
#include "common/viewer_file.h"
#include "qt_text.h"
#include "screen_placement.h"

namespace vantor::gui {

namespace {

// The runtime's printer failure: the printer could not take the text.
constexpr int kPrinterError = 482;

QFont FixedPitchFont() {
    QFont font("Courier");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(10);
    return font;
}

}  // namespace

TextFileViewer::TextFileViewer(UserInterface& ui, QWidget* owner) : QDialog(owner), ui_(ui) {
    setObjectName("frmPrintPreview");
    setWindowTitle("Print Preview");
    setSizeGripEnabled(true);

    text_ = new QTextEdit(this);
    text_->setObjectName("rtfFile");
    text_->setAccessibleName("Text");
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text_->setLineWrapMode(QTextEdit::NoWrap);
    text_->setFont(FixedPitchFont());
    text_->setAcceptRichText(false);

    files_ = new QListWidget(this);
    files_->setObjectName("listFiles");
    files_->setAccessibleName("Files");
    files_->setMaximumWidth(200);
    files_->hide();

    save_ = new QPushButton("&Save", this);
    save_->setObjectName("cmdSave");
    print_ = new QPushButton("&Print", this);
    print_->setObjectName("cmdPrint");
    done_ = new QPushButton("&Done", this);
    done_->setObjectName("cmdDone");
    done_->setDefault(true);

    auto* view = new QHBoxLayout;
    view->addWidget(files_);
    view->addWidget(text_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(print_);
    buttons->addWidget(done_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(view, 1);
    layout->addLayout(buttons);
    resize(780, 520);

    connect(save_, &QPushButton::clicked, this, &TextFileViewer::Save);
    connect(print_, &QPushButton::clicked, this, &TextFileViewer::Print);
    connect(done_, &QPushButton::clicked, this, &QDialog::accept);
    connect(files_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!name.isEmpty()) LoadFile(JoinPath(folder_, S(name) + "." + extension_));
    });
}

void TextFileViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (displayText_) {
        text_->setPlainText(Q(*displayText_));
        text_->moveCursor(QTextCursor::Start);
    } else {
        LoadFile(displayFileName_);
    }
    WidenForLongestLine();
    PlaceNearTopCentre(this, parentWidget());
}

void TextFileViewer::WidenForLongestLine() {
    // Report lines end in what matters (the hour that was not re-sent, the preview's totals):
    // the viewer opens wide enough to show the longest line whole, but never wider than the
    // working area of its screen, frame included. It never opens narrower than it was.
    const QWidget* reference = parentWidget() ? parentWidget() : this;
    const QScreen* screen = reference->screen();
    if (!screen) return;
    const QMargins frame = FrameMarginsOf(this);
    const int widest = screen->availableGeometry().width() - frame.left() - frame.right();
    const QTextDocument* document = text_->document();
    const int textArea = static_cast<int>(std::ceil(document->idealWidth() +
                                                    document->documentMargin())) +
                         2 * text_->frameWidth() +
                         text_->verticalScrollBar()->sizeHint().width();
    const int wanted = width() - text_->width() + textArea;
    if (wanted > width()) resize(std::min(wanted, std::max(widest, 0)), height());
}

void TextFileViewer::LoadFile(const std::string& path) {
    text_->setPlainText(Q(ReadViewerText(path)));
    text_->moveCursor(QTextCursor::Start);
}

void TextFileViewer::DisplayFolder(const std::string& folder, const std::string& extension) {
    folder_ = folder;
    extension_ = extension;
    files_->clear();
    for (const std::string& name : ViewerFolderNames(folder, extension)) files_->addItem(Q(name));
    files_->show();
}

void TextFileViewer::HideFolder() {
    files_->hide();
    files_->clear();
}

void TextFileViewer::SetFloater(bool floating) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, floating);
    if (visible) show();
}

void TextFileViewer::Save() {
    FileDialogRequest request;
    request.title = "Select File to Save to";
    request.filter = "All Files|*.*";
    request.defaultName = "*.*";
    const std::optional<std::string> chosen = ui_.ChooseSaveFile(request);
    if (!chosen) return;
    if (const int error = SaveViewerText(*chosen, S(text_->toPlainText())); error != 0)
        ProblemReport(ui_, "while saving the text to " + *chosen + ".", ErrorResult::Make(error));
}

void TextFileViewer::Print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName("PrintDialog");
    const bool selected = text_->textCursor().hasSelection();
    if (selected) {
        dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
        printer.setPrintRange(QPrinter::Selection);
    }
    if (dialog.exec() != QDialog::Accepted) return;
    QTextDocument document;
    document.setDefaultFont(FixedPitchFont());
    const bool selectionOnly = selected && printer.printRange() == QPrinter::Selection;
    // A selection spanning lines holds paragraph separators; the printer wants line feeds.
    QString text = selectionOnly ? text_->textCursor().selectedText() : text_->toPlainText();
    text.replace(QChar::ParagraphSeparator, '\n');
    document.setPlainText(text);
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error)
        ProblemReport(ui_, "while printing.", ErrorResult::Make(kPrinterError, "Printer error"));
}

}  // namespace vantor::gui
