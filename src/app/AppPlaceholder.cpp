// The application object, main window and program list live here.
