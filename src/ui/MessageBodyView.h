#pragma once
// The HTML that the message pane shows for a message's body. This is the one place where
// the body becomes HTML for the view.

#include <QByteArray>
#include <QString>
#include <map>
#include <atomic>
#include <optional>

class TTNEFReader;
struct TBodyAttachments;

// A picture the body carries: its bytes and the extension that names its format.
struct TBodyPicture {
  QByteArray Bytes;
  QString Extension;  // ".png", ".jpg", ".gif", ".bmp", ".emf", ".wmf"
};

struct TMessageBodyView {
  QString Html;
  // Pictures the HTML refers to, by the address it uses for them.
  std::map<QString, TBodyPicture> Pictures;
  // The size HTML bodies start from, as in a browser (16 px "medium"); 0 for bodies that
  // give their own sizes (RTF) or none (plain text): the pane's font.
  int BasePixelSize = 0;
  // Only the body's first part was converted (see MessageBodyHtml's firstBytes).
  bool Partial = false;
  // The body was too long to show whole and its end was left out; the HTML says so first.
  bool Truncated = false;
  // Whether Html is made only of paragraphs, runs and links (IsRunsHtml), when that was
  // worked out beforehand: scanning a long body takes a tenth of a second, spent off the
  // window's thread by the whole body's conversion.
  std::optional<bool> RunsOnly;
};

// The most HTML the pane is given for one body: the text engine needs about 25 bytes of
// memory per character of HTML, so a longer body is cut at a block's end, with a notice.
inline constexpr qsizetype kMaxBodyHtmlChars = 32 * 1024 * 1024;

// firstBytes: convert only about the body's first firstBytes bytes, for a quick first look.
TMessageBodyView MessageBodyHtml(TTNEFReader& reader, std::size_t firstBytes = std::size_t(-1));
// The whole body, for a conversion on a thread other than the reader's: cid: pictures come
// from attachments, taken from the reader on its own thread (see BodyAttachments). stop
// (when given): throws TConversionStopped once it is set.
TMessageBodyView MessageBodyHtml(const TTNEFReader& reader, const TBodyAttachments& attachments,
                                 const std::atomic<bool>* stop = nullptr);
