// The command-line front end lives here.
