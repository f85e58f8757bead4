#include "app/orvaneapp.h"

int main(int argc, char** argv) {
    return orvane::COrvaneApp::run(argc, argv);
}
