#include "app/application.h"

int main(int argc, char** argv) { return kvx::CKORVELUX_16_VIEWApp::run(argc, argv); }
