#pragma once

#include <QBitmap>
#include <QImage>

namespace kvx {

class CButtonST;

// Where SetBitmapResource gets the bitmap of a resource number. The program installs the skin's renderer
// (renderSkinBitmap of resources/skin_renderer.h) once at start-up, before any window is made; with no
// source installed every number reads as missing.
using BitmapSource = QImage (*)(int resourceNumber);
void installBitmapSource(BitmapSource source);

// Builds the mask of a button picture: set where the picture shows, clear where it is transparent. A null
// result means the mask could not be made.
using MaskBuilder = QBitmap (*)(const QImage& bitmap);
QBitmap blackTransparentMask(const QImage& bitmap);  // black, RGB(0, 0, 0), is transparent

// Results of SetBitmapResource.
inline constexpr int kBitmapSet = 0;
inline constexpr int kBitmapSizeUnreadable = 1;
inline constexpr int kBitmapMaskFailed = 2;

// Makes the bitmap of a resource number the button's only picture, at the bitmap's own size: the previous
// pictures are released, the idle picture is cleared, the mask is built, the button repaints. On failure
// the button is left with no picture.
int SetBitmapResource(CButtonST& button, int resourceNumber);

// The resource number that SetBitmapResource last gave the button successfully; 0 for none (or no button).
int shownBitmapResource(const QWidget* button);

// The same for a bitmap at hand, with the mask builder as a parameter.
int setButtonBitmap(CButtonST& button, const QImage& bitmap, MaskBuilder buildMask = blackTransparentMask);

}  // namespace kvx
