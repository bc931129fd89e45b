#include "views/compare/compare_dialogs.h"

#include "views/save/settings_file_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QSpinBox>
#include <algorithm>
#include <array>

namespace qmt::views {

namespace {

// The forms an export takes, as the form's list offers them.
struct ExportForm {
    files::ExportFormat format;
    const char* caption;
    const char* filter;
    const char* suffix;
};
constexpr std::array<ExportForm, 3> ExportForms{
    ExportForm{files::ExportFormat::I2cset, "i2cset shell script", "Shell Scripts (*.sh)", "sh"},
    ExportForm{files::ExportFormat::C, "C header", "C Headers (*.h)", "h"},
    ExportForm{files::ExportFormat::Json, "JSON", "JSON Files (*.json)", "json"}};

constexpr int LargestBus = 0xFFFF;
constexpr int LargestAddress = 0x7F;
constexpr int Hexadecimal = 16;

// Shows its number as the program writes addresses everywhere else: "0x4C",
// two upper-case digits, where the plain spin box writes "0x4c".
class HexSpinBox final : public QSpinBox {
public:
    explicit HexSpinBox(QWidget* parent) : QSpinBox(parent) {
        setDisplayIntegerBase(Hexadecimal);
        setPrefix(QStringLiteral("0x"));
    }

protected:
    QString textFromValue(int value) const override {
        return QString::number(value, Hexadecimal).toUpper().rightJustified(2, QLatin1Char('0'));
    }
};

// The bus, the address and whose values; none when cancelled.
std::optional<ScriptChoice> AskTarget(QWidget* parent, const ScriptDefaults& defaults) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export Script"));
    auto* bus = new QSpinBox(&dialog);
    bus->setObjectName(QStringLiteral("spnBus"));
    bus->setRange(0, LargestBus);
    bus->setValue(defaults.bus);
    auto* address = new HexSpinBox(&dialog);
    address->setObjectName(QStringLiteral("spnAddress"));
    address->setRange(0, LargestAddress);
    address->setValue(defaults.address);
    auto* values = new QComboBox(&dialog);
    values->setObjectName(QStringLiteral("cmbValues"));
    values->addItem(QStringLiteral("Chip"));
    if (defaults.fileLoaded) {
        values->addItem(QStringLiteral("Settings file"));
    }
    auto* format = new QComboBox(&dialog);
    format->setObjectName(QStringLiteral("cmbFormat"));
    for (const ExportForm& form : ExportForms) {
        format->addItem(QString::fromLatin1(form.caption));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("I2C &bus"), bus);
    form->addRow(QStringLiteral("Chip &address"), address);
    form->addRow(QStringLiteral("&Values of"), values);
    form->addRow(QStringLiteral("&Format"), format);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ScriptChoice{bus->value(),
                        address->value(),
                        values->currentIndex() == 0 ? files::ScriptValues::Chip
                                                    : files::ScriptValues::File,
                        {},
                        ExportForms.at(static_cast<std::size_t>(format->currentIndex())).format};
}

QString AskScriptPath(QWidget* parent, const QString& folder, files::ExportFormat format) {
    const auto& form = *std::find_if(ExportForms.begin(), ExportForms.end(),
                                     [format](const ExportForm& f) { return f.format == format; });
    QFileDialog dialog(parent, QString(), folder, QString::fromLatin1(form.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(form.suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

CompareDialogs CompareDialogs::Desktop() {
    return {SettingsFileDialogs::Desktop().askOpenPath,
            [](QWidget* parent, const ScriptDefaults& defaults) -> std::optional<ScriptChoice> {
                auto choice = AskTarget(parent, defaults);
                if (!choice) {
                    return std::nullopt;
                }
                choice->path = AskScriptPath(parent, defaults.folder, choice->format);
                if (choice->path.isEmpty()) {
                    return std::nullopt;
                }
                return choice;
            }};
}

} // namespace qmt::views
