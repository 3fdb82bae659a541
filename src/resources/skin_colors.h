#pragma once

#include <QColor>

namespace kvx::skin {

// The colours of the control surface, shared by the bitmaps and the controls drawn on them.
inline const QColor kFace{46, 49, 54};         // window and button faces
inline const QColor kField{58, 58, 58};        // edits and lists
inline const QColor kButtonBrush{57, 60, 65};  // push buttons
inline const QColor kGreen{110, 187, 105};     // status strip, static texts, lit buttons
inline const QColor kFieldText{60, 180, 255};  // text of edits and lists
inline const QColor kStrip{38, 41, 45};        // title strips and plates
inline const QColor kEdge{78, 83, 90};         // plate and frame edges
inline const QColor kTitleText{222, 226, 231};
inline const QColor kDisabledText{128, 128, 128};  // text of a field that cannot be used

}  // namespace kvx::skin
