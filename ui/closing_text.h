// What the program tells the user when a run has ended: the closing box's
// caption and text, with the files that the commit could not put in place
// or remove and the folder that keeps their new versions.
#pragma once

#include <string>

#include "apply/apply_outcome.h"

// "All Finished" for an applied run, "Upgrade Aborted" otherwise.
const char* ClosingCaption(int applied);
// "The upgrade has been applied." or "The upgrade process was aborted. No
// changes have been made to any of your files.", followed by what the
// outcome records: a refused path, files not put in place or not removed,
// a staging folder left behind.
std::string ClosingText(int applied, const ApplyOutcome& outcome);
