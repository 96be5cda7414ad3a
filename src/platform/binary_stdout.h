#pragma once
// Standard output as plain bytes: on Windows it translates LF to CR LF by default, which
// would double the CR of every text line the tools write and spoil any binary output.
namespace vantrel {

void UseBinaryStandardOutput();

}  // namespace vantrel
