#pragma once

// The progress window of a build or a print run: a caption, two labels and
// Cancel. The work starts once the window is on screen and its modal loop
// runs; Cancel (or Escape) sets the report's StopRequested.

#include <QDialog>

#include <exception>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace quor {

class TfrReport;

class TfrProgressForm : public QDialog {
public:
    explicit TfrProgressForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;

    // Run once the window is shown; the window closes with result OK after
    // it unless it was cancelled meanwhile.
    std::function<void(TfrProgressForm&)> onStart;

    // Shows the window modally for the report and returns its result
    // (Accepted or Rejected). An error of onStart closes the window and
    // passes on to the caller.
    int showProgressModal(TfrReport& report);

    TfrReport* report() const { return report_; }
    void reject() override;

private:
    void start();

    TfrReport* report_ = nullptr;
    bool cancelled_ = false;
    std::exception_ptr failure_;
};

// Fills reportWindows().runWithProgress and setProgressText with this
// window. Called once at program start.
void installProgressWindow();

}  // namespace quor
