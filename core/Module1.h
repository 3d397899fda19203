#pragma once
// The forum core: settings, page frame, online list, access checks and the
// shared helpers every page class uses.
