#pragma once

#include <QPixmap>

#include "report/Publisher.h"

namespace qlm {

// The publisher's logo, drawn by the program itself: a square picture of `size` pixels.
QPixmap PublisherLogo(PublisherCode code, int size);

}  // namespace qlm
