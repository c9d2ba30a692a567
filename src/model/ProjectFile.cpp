#include "model/PictureItem.h"
#include "model/Project.h"
#include "model/TextItem.h"

// Placeholder: the project file reader and writer land here.
void ProgramItem::writeXml(XmlDocument &) const {}
bool ProgramItem::readXml(XmlDocument &) { return false; }
void TextItem::writeXml(XmlDocument &doc) const { ProgramItem::writeXml(doc); }
bool TextItem::readXml(XmlDocument &doc) { return ProgramItem::readXml(doc); }
void PictureItem::writeXml(XmlDocument &doc) const { ProgramItem::writeXml(doc); }
bool PictureItem::readXml(XmlDocument &doc) { return ProgramItem::readXml(doc); }
bool Project::saveProject() { return false; }
bool Project::loadProject() { return false; }
