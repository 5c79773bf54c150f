// The colour buttons (cmd_Color, cmd_Yohaku): push buttons whose face is a colour.
#pragma once

#include <QPushButton>
#include <cstdint>

namespace lumen::mainwindow {

class ColourButton : public QPushButton {
 public:
  explicit ColourButton(QWidget* parent) : QPushButton(parent) {}
  // The face colour: a COLORREF kept as the settings keep it (a signed 32-bit number).
  int32_t FaceColour() const { return face_; }
  void SetFaceColour(int32_t colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int32_t face_ = 0xFFFFFF;
};

}  // namespace lumen::mainwindow
