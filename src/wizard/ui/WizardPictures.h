#pragma once

#include <QPixmap>
#include <QSize>

namespace vexo {

// The background picture drawn over a window of `size` whose page is `fit` times the design's
// size (at most 1): its title band down to bandBottom, the band grown and its line beneath kept
// as it is; its footer band from footerTop; and its middle between them. Where the page is
// taller than the design, rows of the middle's grid fill the room above the middle, which keeps
// its proportions.
QPixmap pageBackground(const QPixmap& picture, QSize size, int bandBottom, int footerTop,
                       double fit);

// The run picture once the run is over: its caption band says so instead of measuring.
QPixmap finishedRunPicture(const QPixmap& running);

} // namespace vexo
