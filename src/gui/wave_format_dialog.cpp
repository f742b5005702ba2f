#include "wave_format_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QString ChannelsText(uint16_t channels) {
    if (channels == 1) return QStringLiteral("Mono");
    if (channels == 2) return QStringLiteral("Stereo");
    return QStringLiteral("%1 Channels").arg(channels);
}

}  // namespace

WaveFormatDialog::WaveFormatDialog(const WaveFormat& initial, QWidget* parent)
    : QDialog(parent), chosen_(NearestOfferedWaveFormat(initial)) {
    setObjectName(QStringLiteral("dlgWaveFormat"));
    setWindowTitle(QStringLiteral("Sound Selection"));

    tags_ = new QComboBox(this);
    tags_->setObjectName(QStringLiteral("cboFormatTag"));
    for (const WaveFormatTag& tag : WaveFormatTags())
        tags_->addItem(QString::fromStdString(tag.name), tag.tag);
    channels_ = new QComboBox(this);
    channels_->setObjectName(QStringLiteral("cboChannels"));
    rates_ = new QComboBox(this);
    rates_->setObjectName(QStringLiteral("cboSampleRate"));
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("lblFormatDetails"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Format:"), tags_);
    form->addRow(QStringLiteral("Channels:"), channels_);
    form->addRow(QStringLiteral("Sample Rate:"), rates_);
    form->addRow(QStringLiteral("Attributes:"), description_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // Its contents have one size: opened at its natural size and kept there, it gets no
    // maximise button from the window manager and no empty space.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    tags_->setCurrentIndex(tags_->findData(chosen_.tag));
    FillChoices();
    connect(tags_, &QComboBox::activated, this, [this] {
        chosen_ = NearestOfferedWaveFormat({static_cast<uint16_t>(tags_->currentData().toUInt()),
                                            chosen_.channels, chosen_.samplesPerSecond});
        FillChoices();
    });
    connect(channels_, &QComboBox::activated, this, [this] { TakeChoice(); });
    connect(rates_, &QComboBox::activated, this, [this] { TakeChoice(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// The channel counts and rates the chosen tag offers, with the chosen ones selected.
void WaveFormatDialog::FillChoices() {
    const WaveFormatTag* tag = FindWaveFormatTag(chosen_.tag);
    channels_->clear();
    rates_->clear();
    if (!tag) return;
    for (uint16_t count : tag->channels) channels_->addItem(ChannelsText(count), count);
    for (uint32_t rate : tag->rates) rates_->addItem(QStringLiteral("%1 Hz").arg(rate), rate);
    channels_->setCurrentIndex(channels_->findData(chosen_.channels));
    rates_->setCurrentIndex(rates_->findData(chosen_.samplesPerSecond));
    description_->setText(QString::fromStdString(WaveFormatDescription(chosen_)));
}

void WaveFormatDialog::TakeChoice() {
    chosen_.channels = static_cast<uint16_t>(channels_->currentData().toUInt());
    chosen_.samplesPerSecond = rates_->currentData().toUInt();
    description_->setText(QString::fromStdString(WaveFormatDescription(chosen_)));
}

}  // namespace vantor::gui
