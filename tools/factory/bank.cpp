#include "tools/factory/bank.h"

namespace tarvik::factory {

std::vector<Recipe> factoryBank() {
    std::vector<Recipe> bank;
    for (auto style : {acidRecipes, bassRecipes, leadRecipes, padAndArpRecipes, patchedRecipes}) {
        std::vector<Recipe> recipes = style();
        bank.insert(bank.end(), recipes.begin(), recipes.end());
    }
    return bank;
}

}  // namespace tarvik::factory
