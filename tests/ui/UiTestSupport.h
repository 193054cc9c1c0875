#pragma once
// Helpers of the widget tests: TNEF files written in code, a shell that records what it was
// asked to open, the error box answered by recording, and a private registry folder.

#include <QDialog>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ErrorBox.h"
#include "MimeClassesRootProvider.h"
#include "Shell.h"
#include "TnefBuilder.h"
#include "fmTNEFReaderOptions.h"

class TRecordingShell : public IShell {
public:
  void Open(const std::string& pathOrUrl) override { Requests.push_back(pathOrUrl); }
  std::vector<std::string> Requests;
};

// Records every error box instead of showing it; restores the real box when it goes.
class TErrorBoxRecorder {
public:
  TErrorBoxRecorder() {
    SetErrorBoxHook([this](QWidget*, const QString& text) { Messages << text; });
  }
  ~TErrorBoxRecorder() { SetErrorBoxHook({}); }
  QStringList Messages;
};

// Points the registry's stores at an empty folder, so no test reads the user's settings.
inline void UseScratchRegistry(const QTemporaryDir& dir) {
  qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
  qputenv("XDG_CONFIG_DIRS", (dir.path() + QStringLiteral("/etc")).toUtf8());
}

// What every test of the whole window sets first: a private registry, the first-run options
// dialog answered at once, and the MIME database as the extension lookup.
inline void UseWindowTestEnvironment(const QTemporaryDir& dir) {
  UseScratchRegistry(dir);
  TfrmTNEFReaderOptions::SetModalRunner([](TfrmTNEFReaderOptions&) { return int(QDialog::Rejected); });
  SetClassesRootProvider(std::make_shared<TMimeClassesRootProvider>());
}

namespace uitest {

// PR_SENDER_NAME, PR_RTF_COMPRESSED, PR_BODY_HTML (binary), PR_BODY.
inline constexpr std::uint16_t kSenderName = 0x0C1A;
inline constexpr std::uint16_t kRtfCompressed = 0x1009;
inline constexpr std::uint16_t kBodyHtml = 0x1013;
inline constexpr std::uint16_t kBody = 0x1000;

struct TAttachmentSpec {
  std::string Name;
  std::string Bytes;
};

// A message with the given subject, an optional RTF body, and attachments.
inline std::string WriteMessage(const QString& path, const std::string& subject, const std::string& rtf,
                                const std::vector<TAttachmentSpec>& attachments = {},
                                const std::string& from = "Sender Name") {
  tb::TnefBuilder b;
  b.Subject(subject);
  tb::PropBlock props;
  props.String8(kSenderName, from);
  if (!rtf.empty()) props.Binary(kRtfCompressed, tb::Lzfu(rtf));
  b.MsgProps(props);
  for (const auto& a : attachments) b.Attachment(a.Name, a.Bytes);
  return b.WriteTo(path.toStdString());
}

// An attached message as writers store it: a placeholder in attAttachData, the stream after
// the interface id in PR_ATTACH_DATA_OBJ.
inline tb::TnefBuilder& AttachMessage(tb::TnefBuilder& b, const std::string& stream) {
  return b.RendData()
      .Title("Untitled Attachment")
      .Data(std::string(89, 'p'))
      .AttProps(tb::PropBlock().Long(0x3705, 5).Counted(0x000D, 0x3701, {std::string(16, '\x11') + stream}));
}

}  // namespace uitest
