// Artwork.h - the program's pictures, drawn from the SVG sources carried
// inside the program (resources/artwork), at the sizes their lists and
// images ask for.
#pragma once
#include <QImage>
#include <initializer_list>

#include "platform/graphics/Graphics.h"

class TImageList;
class TImage;
class TIcon;

// The picture Name (e.g. "add") at Width x Height, transparent around it;
// a null image when there is no such picture.
QImage RenderArtwork(const char* Name, int Width, int Height);

// Appends the pictures at the list's size. A list keeps one bit of
// transparency per pixel, so soft edges are blended over Background, the
// colour the pictures are shown on.
void AddArtwork(TImageList* List, std::initializer_list<const char*> Names, TColor Background);

// Fills the image with the picture at the image's size, over Background.
void LoadArtwork(TImage* Image, const char* Name, TColor Background);

// The program's icon: the logo at 16, 32 and 48 pixels.
void LoadProgramIcon(TIcon* Icon);
