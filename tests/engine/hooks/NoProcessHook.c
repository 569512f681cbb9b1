/* A broken video-hook plug-in for the tests: it has no "Process". */
int Configure(void** context, int argc, char* argv[], int lastIndex)
{
    (void)argc;
    (void)argv;
    (void)lastIndex;
    *context = 0;
    return 0;
}
