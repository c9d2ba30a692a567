// Shared test helpers are added next to this file.
