#include "model/Project.h"

// Placeholder: discovery and identification land here.
bool Project::identify(int, QString *) { return false; }
bool Project::identifyForSend() { return false; }
void Project::findController(ProgressHost &host) { host.setButtons(true, false); }
