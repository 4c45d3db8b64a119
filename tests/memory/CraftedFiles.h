#pragma once

// Small but well-formed files whose headers promise far more pixels than
// they hold, made at test time: the inputs on which the program's decode
// budget and its peak memory are checked. Nothing here is stored in git.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace CraftedFiles {

// A JPEG of a few kilobytes of real noise whose frame header declares Size;
// the decoder finds the data end early and fills the rest. Seed varies the
// noise; Side is the side of the noise picture that is actually encoded.
QByteArray JpegDeclaring(QSize Size, int Seed = 0, int Side = 64);

// A progressive JPEG of noise whose frame header declares Size with every
// colour at full resolution, its last scan repeated until it has Scans.
QByteArray ProgressiveJpeg(QSize Size, int Scans = 0);

// A GIF whose first frame of Frame lies on a logical screen of Screen.
QByteArray GifOnScreen(QSize Screen, QSize Frame = QSize(16, 16));

// A PNG of Size at Depth bits a channel in ColourType, every pixel zero, so
// that it decodes whole from a few hundred kilobytes.
QByteArray Png(QSize Size, int Depth = 8, int ColourType = 6);

// An ICO whose one entry says 16 x 16 and holds Picture.
QByteArray IcoHolding(const QByteArray& Picture);

// A picture frame file (type 2) whose twelve pieces are the given JPEG.
QByteArray PictureFrameFile(const QByteArray& Piece);
// The same with twelve different pieces.
QByteArray PictureFrameFile(const QByteArray (&Pieces)[12]);
// A simple frame file (type 0) that carries Texture as its band picture.
QByteArray SimpleFrameFile(const QByteArray& Texture);

// A real photo of Size as JPEG (smooth content, so a 100-megapixel photo
// stays a few megabytes).
QByteArray Photo(QSize Size);

// Jpeg with Count empty APP1 segments (the kind Qt's reader keeps) after its
// start marker.
QByteArray SegmentsBefore(int Count, const QByteArray& Jpeg);

// An MNG of 16 x 16 that defines one object of Width x Height.
QByteArray MngObject(uint32_t Width, uint32_t Height);

// Writes Bytes to Path; false when it cannot.
bool WriteFile(const QString& Path, const QByteArray& Bytes);

// The cases of the peak memory check, written into Folder:
//   declares16000.jpg  5 KB, declares 16000 x 16000
//   declares16000.okx  a picture frame file of about 1.3 MB whose twelve
//                      JPEGs each declare 16000 x 16000
//   texture16000.okx   a simple frame file carrying declares16000.jpg
//   photo100mp.jpg     a real photo of 11547 x 8660 (100 megapixels)
//   gifs.okx           a picture frame file of twelve GIFs, each a 16 x 16
//                      frame on a screen of 10000 x 10000
//   icos.okx           the same with ICOs whose 16 x 16 entry holds a PNG of
//                      10000 x 10000
//   screen9000.gif     a 16 x 16 frame on a screen of 9000 x 9000
//   progressive.jpg    a progressive JPEG declaring 11585 x 11585 (4:4:4)
//   scans.jpg          a progressive JPEG of 600 scans
bool WriteMemoryCases(const QString& Folder);

} // namespace CraftedFiles
