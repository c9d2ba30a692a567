<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Faulty</name>
    <message>
        <source>通讯超时。</source>
        <translation type="unfinished">Timed out.</translation>
    </message>
    <message>
        <source>已成功发送了 %1 条信息。</source>
        <translation>Sent the programs.</translation>
    </message>
    <message numerus="yes">
        <source>%n 个节目</source>
        <translation>
            <numerusform>%n program</numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
</TS>
