#include "WholeBodyConversion.h"

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <mutex>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "BodyImport.h"
#include "ConversionStop.h"
#include "MessageBody.h"
#include "TNEFReaderClass.h"

namespace {
std::atomic<int> GPending{0};
}  // namespace

// Shared by the conversion object (the window's side) and the worker. Receiver and Done are
// cleared under the mutex when the window drops the conversion, so the worker never posts to
// a window that is gone; Done is only ever called on the receiver's thread.
struct TWholeBodyConversion::TState {
  std::mutex Mutex;
  QObject* Receiver = nullptr;
  TDone Done;
  // Until the worker takes them; a conversion dropped before it started leaves them empty.
  std::shared_ptr<const TTNEFReader> Message;
  TBodyAttachments Attachments;
  // Set when the window drops the conversion; the worker's conversion then stops.
  TStopFlag Stop{false};
};

TWholeBodyConversion::TWholeBodyConversion(std::shared_ptr<const TTNEFReader> message, QObject* receiver, TDone done)
    : FState(std::make_shared<TState>()) {
  FState->Receiver = receiver;
  FState->Done = std::move(done);
  // The names are read here: an attached message's name is read from the file on first use.
  FState->Attachments = BodyAttachments(*message);
  FState->Message = std::move(message);
  ++GPending;
  // The global pool is waited for when the application ends, so no conversion outlives it.
  QThreadPool::globalInstance()->start([state = FState] { Run(state); });
}

TWholeBodyConversion::~TWholeBodyConversion() {
  TDone done;
  std::shared_ptr<const TTNEFReader> message;
  TBodyAttachments attachments;
  FState->Stop = true;
  {
    const std::lock_guard<std::mutex> lock(FState->Mutex);
    FState->Receiver = nullptr;
    done = std::move(FState->Done);
    message = std::move(FState->Message);
    attachments = std::move(FState->Attachments);
  }
  // What they hold (the window's captures, perhaps the last hold on the reader) goes here,
  // outside the lock.
}

void TWholeBodyConversion::Run(const std::shared_ptr<TState>& state) {
  {
    std::shared_ptr<const TTNEFReader> message;
    TBodyAttachments attachments;
    {
      const std::lock_guard<std::mutex> lock(state->Mutex);
      message = std::move(state->Message);
      attachments = std::move(state->Attachments);
    }
    if (message) {
      std::shared_ptr<TMessageBodyView> body;
      try {
        body = std::make_shared<TMessageBodyView>(MessageBodyHtml(*message, attachments, &state->Stop));
        body->RunsOnly = IsRunsHtml(body->Html);
      } catch (...) {
        // Stopped, out of memory, or the file could not be read: the first part stays shown
        // (if the window still shows it).
      }
      attachments = {};
#if defined(__GLIBC__)
      // The conversion's working memory was this thread's, where the window's thread cannot
      // reuse it while it builds the document: handed back, it does not add to the peak.
      malloc_trim(0);
#endif
      const std::lock_guard<std::mutex> lock(state->Mutex);
      // Posted while the lock holds the window back from dropping the conversion; a window
      // destroyed before the event is delivered takes the event with it.
      if (body && state->Receiver != nullptr)
        QMetaObject::invokeMethod(
            state->Receiver,
            [state, message, body] {
              TDone done;
              {
                const std::lock_guard<std::mutex> lock(state->Mutex);
                if (state->Receiver == nullptr) return;
                done = state->Done;
              }
              if (done) done(*message, *body);
            },
            Qt::QueuedConnection);
    }
  }
  --GPending;
}

int TWholeBodyConversion::Pending() { return GPending.load(); }
