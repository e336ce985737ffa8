// Change File Path: the folders of a project's page files, and the rewrite of one folder into
// another after the HTML files were moved.
//
// Folders compare without regard to case, as they always have; on Linux the names keep their
// real case when written back, since a lower-cased path would not find the moved file.
#pragma once

#include "project/SiteOutline.h"

#include <QString>
#include <QStringList>

// Each distinct folder (with its trailing "/") of the links, in order of first appearance, as
// the first link in it spells it. Links without a folder are left out.
QStringList projectFolders(const QStringList& links);
// The folder part of a path with its trailing "/" ("" when there is none).
QString folderOf(const QString& path);
// Every page whose file lies directly in oldFolder gets newFolder plus its file name; pages in
// sub-folders and in other folders keep theirs. Returns the number of pages changed.
int changeFilePath(SiteOutline& outline, const QString& oldFolder, const QString& newFolder);

QString changeFilePathDoneText();
QString selectNewPathText();
