#pragma once

#include <QPixmap>
#include <QSize>

// The start-up cover's picture, drawn by the program: a paper with a download
// arrow on the list's green, the program's name beside it.
QPixmap CoverPicture(const QSize& size);
