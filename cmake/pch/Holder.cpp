// The one source of a precompiled-header holder; the header is all it is for.
