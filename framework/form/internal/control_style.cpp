#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "framework/form/internal/widgets.h"

namespace fw::internal {

namespace {

class ControlStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  // Qt's styles open a drop-down list as a menu laid over the box, as tall
  // as all its items (the height the program gives the list is then ignored).
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    AsEnabled scope(option, widget);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    AsEnabled scope(option, widget);
    QProxyStyle::drawControl(element, option, painter, widget);
  }
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    AsEnabled scope(option, widget);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }

 private:
  // Win32 draws the controls of a disabled window as they were: the window
  // only stops taking input. Qt disables every child with its window and
  // draws them so; a control that is disabled only through its window is
  // drawn here as an enabled one. The option is the painting widget's own
  // temporary, so its state is set for this one drawing and put back.
  class AsEnabled {
   public:
    AsEnabled(const QStyleOption* option, const QWidget* widget) {
      if (!option || !widget || (option->state & State_Enabled)) return;
      const QWidget* window = widget->window();
      if (widget->isEnabled() || !window || !widget->isEnabledTo(window)) return;
      option_ = const_cast<QStyleOption*>(option);
      option_->state |= State_Enabled;
    }
    ~AsEnabled() {
      if (option_) option_->state &= ~State_Enabled;
    }
    AsEnabled(const AsEnabled&) = delete;
    AsEnabled& operator=(const AsEnabled&) = delete;

   private:
    QStyleOption* option_ = nullptr;
  };
};

}  // namespace

QStyle* controlStyle() {
  // One for every control of the program, deleted with the application.
  static QPointer<QStyle> style;
  if (!style) {
    style = new ControlStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(qApp);
  }
  return style;
}

}  // namespace fw::internal
