// Qt widget classes that need more than their stock behaviour.
#pragma once

#include <QComboBox>
#include <functional>

namespace fw::internal {

// A drop-down list that reports the opening of its list (the _CLICK of a
// combo box) before the list appears.
class ComboWidget final : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> onDropDown;
  void showPopup() override;
};

}  // namespace fw::internal
