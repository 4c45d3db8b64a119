#include "FileDialogSize.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

void SizeFileDialog(QFileDialog& Dialog)
{
    Dialog.setViewMode(QFileDialog::Detail);
    Dialog.resize(kFileDialogWidth, kFileDialogHeight);
    if (auto* splitter = Dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({kFileDialogPlacesWidth, kFileDialogWidth - kFileDialogPlacesWidth});
    if (auto* list = Dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}
