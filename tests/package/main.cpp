// A consumer of the installed package: writes and reads one field.
#include <itemlib.h>

int main() {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out);
    int value = 42;
    Serial::Do(writer, value);
  }
  Serial::MemoryStreamIn in(out.data().data(), static_cast<unsigned int>(out.data().size()));
  Serial::Binary::BinarySerialIn reader(in);
  int value = 0;
  return Serial::Do(reader, value) && value == 42 ? 0 : 1;
}
