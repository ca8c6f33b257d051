#pragma once

// The engine's table of user-visible texts, looked up by numeric id
// (53000..55439). Texts are UTF-8; an id without a text gives "".

#include <string>

namespace quor {

const std::string& message(int id);

// Ids used by name in several places.
inline constexpr int kMsgOk = 55000;
inline constexpr int kMsgCancel = 55001;
inline constexpr int kMsgVirtualPrinter = 55007;
inline constexpr int kMsgErrorCaption = 55206;
inline constexpr int kMsgDefaultCharset = 55337;
inline constexpr int kMsgInvalidTemplate = 55345;
inline constexpr int kMsgBuildError = 55200;
inline constexpr int kMsgBuildDocument = 55201;
inline constexpr int kMsgBuildObject = 55202;
inline constexpr int kMsgNoRoomForBand = 55420;
// The build's progress window: caption, label prefixes of the passes, and
// the word between a page number and the page count.
inline constexpr int kMsgPreparingReport = 55203;
inline constexpr int kMsgFirstPass = 55204;
inline constexpr int kMsgFinalPass = 55205;
inline constexpr int kMsgPageOf = 55199;

}  // namespace quor
