#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace tarn::gui {

// Core texts and part names are bytes: UTF-8 when they are valid UTF-8, else
// GBK (when this Qt can decode it), else Latin-1.
QString displayText(std::string_view bytes);

// Shows the core's notices as message boxes: warnings owned by `owner`, the
// end-of-layout notice with a beep and no owner.
void installMessageBoxNoticeHook(QWidget* owner);

}  // namespace tarn::gui
