// The translation unit that precompiled headers are built with.
