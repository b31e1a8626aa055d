#!/usr/bin/python3
"""Makes PaddleOCR's PP-OCRv4 text detection network importable by OpenCV 4.6.

OpenCV 4.6 reads neither Constant nodes nor Clip's minimum and maximum given
as inputs (the form of ONNX opset 11 and later). The constants become
initializers and each Clip's bounds its attributes; the network computes the
same.

    prepare_text_model.py DETECTION.onnx OUTPUT.onnx
"""
import sys

import onnx
from onnx import helper, numpy_helper


def prepare(source, target):
    model = onnx.load(source)
    graph = model.graph
    constants = {}
    nodes = []
    for node in graph.node:
        if node.op_type == "Constant":
            tensor = node.attribute[0].t
            tensor.name = node.output[0]
            constants[node.output[0]] = tensor
        else:
            nodes.append(node)
    for node in nodes:
        if node.op_type != "Clip" or len(node.input) < 2:
            continue
        bounds = list(node.input[1:])
        del node.input[1:]
        for name, value in zip(("min", "max"), bounds):
            if value:
                bound = numpy_helper.to_array(constants[value]).item()
                node.attribute.append(helper.make_attribute(name, float(bound)))
    used = {name for node in nodes for name in node.input}
    del graph.node[:]
    graph.node.extend(nodes)
    graph.initializer.extend(tensor for name, tensor in constants.items() if name in used)
    onnx.save(model, target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    prepare(sys.argv[1], sys.argv[2])
