#pragma once
// The whole conversion of a long body (its decoding, RTF or HTML to sanitised HTML, its
// pictures) on a worker thread, so that the window answers while it runs; the result is
// handed back on the thread of the object that asked for it.
//
// The worker shares the message's reader (it stays alive until the worker is done with it,
// whatever the window does meanwhile) and uses of it only what is safe beside the window's
// own work: the bodies, which are decoded once whichever thread asks first, and the
// attachments' names and places, taken here on the window's thread, whose bytes it reads
// without the file's shared position.

#include <functional>
#include <memory>

#include "MessageBodyView.h"

class QObject;
class TTNEFReader;

class TWholeBodyConversion {
public:
  // Given the message converted (alive while done runs) and its whole body.
  using TDone = std::function<void(const TTNEFReader& message, TMessageBodyView& body)>;
  // Starts converting message's whole body; done runs on receiver's thread with the result,
  // unless this object is destroyed first. receiver must outlive this object.
  TWholeBodyConversion(std::shared_ptr<const TTNEFReader> message, QObject* receiver, TDone done);
  // Drops the result: a conversion not started yet never starts, one under way is told to
  // stop and ends within moments (what it has is thrown away).
  ~TWholeBodyConversion();
  TWholeBodyConversion(const TWholeBodyConversion&) = delete;
  TWholeBodyConversion& operator=(const TWholeBodyConversion&) = delete;

  // How many conversions of the process hold a reader on a worker thread (queued or
  // running), for tests that wait for the last one to let go.
  static int Pending();

private:
  struct TState;
  // The worker's part: converts, then hands the result over unless dropped meanwhile.
  static void Run(const std::shared_ptr<TState>& state);
  std::shared_ptr<TState> FState;
};
