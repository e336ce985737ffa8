// Linked with one room's whole library and the rooms it names: the link fails when the room
// calls into a room it does not declare.
int main() {
    return 0;
}
