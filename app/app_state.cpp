#include "app/app_state.h"

namespace tarn {

AppState::AppState() : view(std::make_unique<View>()) {}

}  // namespace tarn
