#pragma once

// The search dialog of the preview: the text, whether letter case matters,
// and whether to search from the first page or go on from the last hit.
// A new one is made for every search, so it opens empty, ignoring case and
// set to the first page.

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quor {

class TfrPreviewSearchForm : public QDialog {
public:
    explicit TfrPreviewSearchForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;
    QGroupBox* GroupBox1;  // options
    QCheckBox* CB1;        // case sensitive
    QGroupBox* GroupBox2;  // where to start
    QRadioButton* RB1;     // from the first page
    QRadioButton* RB2;     // go on
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    // The text gets the focus, all of it selected, whenever the dialog
    // comes up.
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void focusText();
};

}  // namespace quor
