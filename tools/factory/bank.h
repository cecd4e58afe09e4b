// The factory bank: every patch that ships with the plug-in, by style. Each
// style's file holds one recipe per patch; a new patch is one more entry.
#pragma once

#include <vector>

#include "tools/factory/recipe.h"

namespace tarvik::factory {

std::vector<Recipe> acidRecipes();
std::vector<Recipe> bassRecipes();  // the sub basses and the distorted ones
std::vector<Recipe> leadRecipes();
std::vector<Recipe> padAndArpRecipes();
std::vector<Recipe> patchedRecipes();

std::vector<Recipe> factoryBank();

// The patch the plug-in opens with, relative to its patch folder.
inline constexpr const char* kStartupPatch = "Acid/Acid Line 1.tvkp";

}  // namespace tarvik::factory
