#pragma once

// The program's built-in templates, kept as compiled-in resources under a
// type and a name: "DOKUMP" (portrait) and "DOKUML" (landscape), both "QUOR".

#include <string>
#include <string_view>

namespace quor {

inline constexpr char kPortraitTemplateType[] = "DOKUMP";
inline constexpr char kLandscapeTemplateType[] = "DOKUML";
inline constexpr char kBuiltinTemplateName[] = "QUOR";

// The template's bytes; raises quor::Error when there is no such resource.
std::string openBuiltinTemplate(std::string_view type, std::string_view name);

// Where a built-in template lives among the resources.
std::string builtinTemplatePath(std::string_view type, std::string_view name);

}  // namespace quor
