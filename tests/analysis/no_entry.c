/* A shared library without ccoeff: the loader must say so and read a mended file anew. */
int tw_no_entry(void) { return 0; }
