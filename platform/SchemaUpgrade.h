#pragma once
// The layout of a database file, built and upgraded by numbered steps.
//
// The file records the number of the last step it has taken. At start the
// program runs, in order, every step above that number, each in a
// transaction of its own that also records the step's number: a new file
// takes them all, a file made by an earlier build only the steps that came
// after it, and a step that fails leaves the file as the step before left it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct SchemaStep {
    int number;            // 1, 2, 3, ... in the order the steps run
    std::string_view sql;  // statements without parameters
    // When set, `sql` is a check (such as an index's integrity check): when
    // it fails, what it did is undone and these statements repair instead.
    std::string_view repair = {};
};

// Creates the file at `path` when missing (in WAL mode, so readers go on
// while one connection writes) and runs the steps it has not taken. A file
// that holds tables but records no step was made before steps were
// recorded: it has step 1's layout. A file that records a step this list
// does not reach was made by a later build and is refused, since this
// program may not read it rightly. Failures raise RuntimeError(kErrDatabase).
// `beforeStep`, when given, is told the number of each step about to run
// (and the last step's): a long upgrade shows how far it has come.
using StepNotice = std::function<void(int step, int last)>;
void UpgradeDatabaseFile(const std::string& path, const std::vector<SchemaStep>& steps,
                         const StepNotice& beforeStep = {});

// The number of the last step the file at `path` has taken (0 for none).
int SchemaStepOf(const std::string& path);

}  // namespace platform
