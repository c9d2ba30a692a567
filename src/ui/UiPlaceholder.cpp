// The editors, tool dialogs, preview panel and progress dialog live here.
