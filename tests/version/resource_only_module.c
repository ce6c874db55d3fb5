/* A module that carries nothing but its version resource. */
int kestResourceOnlyModule;
