#include "model/Project.h"

// Placeholder: the send-all operation lands here.
void Project::sendAll(ProgressHost &host) { host.setButtons(true, false); }
