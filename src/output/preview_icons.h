#pragma once

// The pictures of the preview's buttons, drawn at 16 x 16 pixels.

#include <QIcon>

namespace quor::preview_icons {

QIcon zoom();
QIcon open();
QIcon save();
QIcon print();
QIcon pageSetup();
QIcon find();
QIcon help();
QIcon exit();
QIcon pageUp();
QIcon pageDown();

}  // namespace quor::preview_icons
