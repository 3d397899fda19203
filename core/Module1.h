#pragma once
// The forum core's helpers in one include: settings, page frame pieces,
// input checks, formatting, ranks and rights, the editor, random text, the
// data folder and mail. Each has its own header beside this one.
#include "core/AppFolder.h"
#include "core/Formatting.h"
#include "core/InputChecks.h"
#include "core/MessageEditor.h"
#include "core/Moderators.h"
#include "core/PageFrame.h"
#include "core/RandomString.h"
#include "core/Ranks.h"
#include "core/SendMail.h"
#include "core/Settings.h"
