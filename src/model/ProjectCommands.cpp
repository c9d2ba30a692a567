#include "model/Project.h"

// Placeholder: the controller commands land here.
bool Project::connect(int, bool) { return false; }
bool Project::clearScreen() { return false; }
bool Project::restoreFactorySettings() { return false; }
bool Project::setClock() { return false; }
bool Project::writeScreenParams() { return false; }
bool Project::setScreenPower(bool) { return false; }
bool Project::setBrightness(int) { return false; }
int Project::readBrightness() { return -1; }
bool Project::readScreenParams() { return false; }
