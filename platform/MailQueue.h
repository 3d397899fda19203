#pragma once
// Mail no page waits for, such as the notice of a reply: the page queues it
// and answers; a thread of its own sends the queued mails one after the
// other, and writes why a mail was not sent to standard error.
#include "platform/MailComponent.h"

namespace platform {

// A mail that is not sent is told in the log only: when the queue is full
// (a relay that has taken nothing for a long while gets no more), when the
// board stops first, or when the relay does not take it.
void QueueMail(MailComponent mail);

// Returns once every mail queued so far has been sent or given up.
void WaitForQueuedMail();

}  // namespace platform
