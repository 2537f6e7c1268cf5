#include "app/gui/display_text.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringDecoder>

#include "geometry/notify.h"

namespace tarn::gui {

QString displayText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(view);
  if (!utf8.hasError()) {
    return text;
  }
  QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
  if (gbk.isValid()) {
    text = gbk(view);
    if (!gbk.hasError()) {
      return text;
    }
  }
  return QString::fromLatin1(view);
}

void installMessageBoxNoticeHook(QWidget* owner) {
  QPointer<QWidget> guardedOwner(owner);
  setNoticeHook([guardedOwner](const Notice& notice) {
    // A layout may be running under the wait cursor; the box needs the arrow.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy) {
      QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    if (notice.kind == Notice::Kind::Announcement) {
      QApplication::beep();
      QMessageBox::information(nullptr, displayText(notice.caption), displayText(notice.text));
    } else {
      QMessageBox::warning(guardedOwner.data(), displayText(notice.caption),
                           displayText(notice.text));
    }
    if (busy) {
      QGuiApplication::restoreOverrideCursor();
    }
  });
}

}  // namespace tarn::gui
