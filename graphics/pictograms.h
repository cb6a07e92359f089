// Pictograms: one picture of a list chosen by a status variable, drawn on layer 2 with the
// picture transformations, each place kept as a mouse area whose click offers the statuses.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

// The picture-transformation flags a script combines (the ROT90 ... VSYMM constants).
enum PictureTransform : int { kRot90 = 1, kRot180 = 2, kRot270 = 4, kHorizontalSymmetry = 8, kVerticalSymmetry = 16 };

// `source` turned by the last rotation flag given (ROT90, ROT180, ROT270, in that order), then
// mirrored top to bottom (HSYMM) and left to right (VSYMM).
QImage TransformedPicture(const QImage& source, int flags);

struct MouseArea;
// A click on a pictogram's area: the pop-up menu of its statuses at the click; the status chosen
// is stored in the status variable and its picture drawn at the area.
void ChoosePictogramStatus(const MouseArea& area, QPoint displayPixel);

// Loads a pictogram's .bmp file (a bare name comes from the "pictures" folder) and transforms
// it; false with the error set (messages 170, 172).
bool LoadPictogram(const QString& fileName, int flags, QImage& picture);
