// The virtual card lives here.
