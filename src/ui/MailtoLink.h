#pragma once
// A mailto link from a body, cut down to what writing a mail needs before the desktop's mail
// program sees it: the address and the subject and body parameters. Mail programs accept
// more (attach=, attachment=, a file to add to the mail), and a stranger's link must not
// make ours attach a file of the user's to a mail.

#include <QUrl>

// url itself when it is not a mailto link.
QUrl MailtoForShell(const QUrl& url);
