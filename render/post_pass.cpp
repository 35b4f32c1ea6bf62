// Running one post-processing pass.
#include "render/post_pass.h"

#include "render/shader_set.h"

void runPostPass(RenderResources& renderer, ShaderSet& shaders, const PostPass& pass) {
  switch (pass.target) {
    case PassTarget::Screen:
      renderer.bindScreen();
      break;
    case PassTarget::Textures:
      renderer.attachColorTexture(pass.pair, 0, pass.destination);
      renderer.bindTexturesForDrawing(pass.pair, 1);
      break;
    case PassTarget::Multisample:
      renderer.attachColorTexture(pass.pair, 0, pass.destination);
      renderer.bindForDrawing(pass.pair, 1);
      break;
  }
  setViewport(pass.viewport);
  setPassState();
  shaders.useProgram(pass.program);
  for (int i = 0; i < pass.uniformCount; ++i) {
    const PassUniform& u = pass.uniforms[i];
    if (u.components == 1)
      shaders.setUniformFloat(pass.program, u.name, u.x);
    else
      shaders.setUniformVec4(pass.program, u.name, u.x, u.y, u.z, u.w);
  }
  for (int i = 0; i < pass.matrixCount; ++i)
    shaders.setUniformMatrix(pass.program, pass.matrices[i].name, pass.matrices[i].value);
  for (int i = 0; i < pass.samplerCount; ++i) {
    const PassSampler& s = pass.samplers[i];
    shaders.bindTextureUniform(TextureTarget::Texture2D, pass.program, s.unit, s.name,
                               renderer.textureHandle(s.texture));
  }
  renderer.drawFullScreenQuad();
  if (pass.target == PassTarget::Multisample)
    renderer.resolveTarget(pass.pair, pass.viewport.width, pass.viewport.height, 1, false);
}
