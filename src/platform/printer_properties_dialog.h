#pragma once

// The printer's properties dialog: paper size, orientation, paper source
// and copies of a device mode.

#include <QDialog>

#include <string>
#include <vector>

#include "platform/platform_printer.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace quor {

class PrinterPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PrinterPropertiesDialog(const std::string& device, const std::vector<PaperKind>& papers,
                            const std::vector<BinKind>& bins, const DeviceMode& mode, QWidget* parent = nullptr);

    // The device mode with the choices of the dialog.
    DeviceMode mode() const;

    QComboBox* paperBox() const { return paperBox_; }
    QComboBox* sourceBox() const { return sourceBox_; }
    QRadioButton* portraitButton() const { return portrait_; }
    QRadioButton* landscapeButton() const { return landscape_; }
    QSpinBox* copiesBox() const { return copies_; }

private:
    DeviceMode original_;
    QComboBox* paperBox_;
    QComboBox* sourceBox_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QSpinBox* copies_;
};

// Shows the dialog modally over the active window; `mode` takes the
// choices when the user confirms.
bool showPrinterPropertiesDialog(const std::string& device, const std::vector<PaperKind>& papers,
                                 const std::vector<BinKind>& bins, DeviceMode& mode);

}  // namespace quor
