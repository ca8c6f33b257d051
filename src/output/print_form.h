#pragma once

// The print dialog the preview shows before printing: printer with its
// properties, which pages, copies and collation, and the odd/even choice.

#include <QDialog>

#include <optional>
#include <string>

#include "report/report.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quor {

// PrintPrepared's arguments as the dialog gives them.
struct PrintRequest {
    std::string pageList;
    int copies = 1;
    bool collate = true;
    PageFilter filter = PageFilter::allPages;
    friend bool operator==(const PrintRequest&, const PrintRequest&) = default;
};

class TfrPrintForm : public QDialog {
public:
    explicit TfrPrintForm(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;  // printer
    QLabel* Label1;
    QComboBox* CB1;
    QPushButton* PropButton;
    QGroupBox* GroupBox2;  // pages
    QRadioButton* RB1;
    QRadioButton* RB2;
    QRadioButton* RB3;
    QLineEdit* E2;
    QLabel* Label2;
    QGroupBox* GroupBox3;  // copies
    QLabel* Label4;
    QLineEdit* E1;
    QToolButton* frSpeedButton1;
    QToolButton* frSpeedButton2;
    QCheckBox* CollateCB;
    QLabel* Label3;
    QWidget* PB1;
    QLabel* Label5;
    QComboBox* CB2;
    QPushButton* Button1;
    QPushButton* Button2;

    // The printer current when the dialog was made; a dialog that is not
    // confirmed goes back to it.
    int savedPrinterIndex = 0;

    // E1 one up, or one down but not below 1. A value that is not a whole
    // number raises quor::Error.
    void copiesUp();
    void copiesDown();

    // The request the dialog describes; `currentPage` (1-based) stands for
    // the current-page choice. A copy count that is not a whole number
    // raises quor::Error.
    PrintRequest request(int currentPage) const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The preview's Print button: the dialog preset with the report's
// DefaultCopies and DefaultCollate, shown when ShowPrintDialog is set.
// Nothing when it is cancelled; its initial values when it is not shown.
std::optional<PrintRequest> askPrintRequest(TfrReport& report, int currentPage, QWidget* parent = nullptr);

}  // namespace quor
