#pragma once

// Qt's own file dialog as the program shows it: its detail columns wide
// enough for what they hold (Russian type names such as "Текстовый
// документ", dates with the time) and the places list for its names.

class QFileDialog;

namespace quor {

void fitFileDialog(QFileDialog& dialog);

}  // namespace quor
