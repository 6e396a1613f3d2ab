// The move generator built for the target's baseline instructions: the only
// path of builds for other processors, the fallback on x86-64.
#include "board/move_generation_paths.h"

#include "board/move_generator.h"

void generateMovesPortable(Board_class& board, MoveList& list, MoveOutput output)
{
    generateMovesWith<CpuPath::Portable>(board, list, output);
}
