#pragma once

// What the two built-in templates must hold, written down from the template
// tables independently of the generator in tools/.

#include <cstdint>
#include <string>
#include <vector>

namespace quor::test {

enum class ObjClass { Band, Memo, Picture };

struct ExpectedObject {
    std::string name;
    ObjClass cls;
    int left, top, width, height;
    std::uint16_t flags;
    int bandKind;  // band views only
};

struct ExpectedTemplate {
    std::string type;
    int paperWidth, paperHeight, orientation;
    std::vector<ExpectedObject> objects;
};

inline const ExpectedTemplate kPortrait{
    "DOKUMP", 2100, 2970, 0,
    {
        {"Overlay1", ObjClass::Band, 0, 112, 758, 18, 0x0030, 13},
        {"ReportTitle1", ObjClass::Band, 0, 20, 758, 18, 0x0039, 0},
        {"ReportSummary1", ObjClass::Band, 0, 64, 758, 18, 0x0030, 1},
        {"FM1", ObjClass::Memo, 40, 24, 96, 10, 0x0009, 0},
        {"FPT", ObjClass::Picture, 156, 24, 96, 10, 0x0001, 0},
        {"FPB", ObjClass::Picture, 40, 68, 96, 10, 0x0001, 0},
        {"FPTP", ObjClass::Picture, 44, 114, 96, 10, 0x0001, 0},
        {"FPBP", ObjClass::Picture, 160, 114, 96, 10, 0x0001, 0},
    }};

inline const ExpectedTemplate kLandscape{
    "DOKUML", 2970, 2100, 1,
    {
        {"Overlay1", ObjClass::Band, 0, 104, 1071, 18, 0x0030, 13},
        {"ReportTitle1", ObjClass::Band, 0, 20, 1071, 18, 0x0039, 0},
        {"ReportSummary1", ObjClass::Band, 0, 60, 1071, 18, 0x0039, 1},
        {"FPTP", ObjClass::Picture, 36, 108, 96, 10, 0x0001, 0},
        {"FPBP", ObjClass::Picture, 148, 108, 96, 10, 0x0001, 0},
        {"FPT", ObjClass::Picture, 144, 24, 96, 10, 0x0001, 0},
        {"FM1", ObjClass::Memo, 32, 24, 96, 10, 0x0009, 0},
        {"FPB", ObjClass::Picture, 28, 64, 96, 10, 0x0001, 0},
    }};

}  // namespace quor::test
