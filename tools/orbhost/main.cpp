// orbhost: runs the component broker with this command line and exits with its status.
#include "kvq_orb.h"

int main(int argc, char** argv) {
    return KVQ_ORB::main(argc, argv);
}
