// Program entry: builds the application and its windows, then runs the message loop.
#include "app/application.h"

int main(int argc, char** argv) { return gavrix::RunApplication(argc, argv); }
